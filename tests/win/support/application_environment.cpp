// The application object as the program's entry sets it up.
#include <gtest/gtest.h>

#include "forms/application.h"

namespace {
class ApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Application->Initialize();
    Application->Title = "Selvat Archiver";
    Application->HelpFile = "selvat.hlp";
  }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
}  // namespace
