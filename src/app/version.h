#pragma once
// The program's version, as the About box shows it.
constexpr char kSelvatVersion[] = "1.00";
