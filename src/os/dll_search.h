#pragma once
// Libraries are found by bare name; taking the current directory out of the
// search keeps a library planted there (beside a document the user opened)
// from being loaded. The program's folder, the system folders and the
// folders of PATH stay in the search.
void keepCurrentDirectoryOutOfDllSearch();
