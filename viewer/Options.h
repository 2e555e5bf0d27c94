// The viewer's command line: files to open, and what to do once they are open (for
// demonstrations and scripted runs). Anything that is not one of the options is a file.
#pragma once

#include <string>
#include <vector>

struct ViewerOptions {
    std::vector<std::wstring> files;
    int expandLevels = 0;             // /expand:N opens the tree's first N levels
    std::vector<std::wstring> select; // /select:a,b selects the pipelines with these names
    std::wstring screenshot;          // /screenshot:file.bmp saves a picture of the window
    std::wstring dump;                // /dump:file.txt writes the tree as text
    std::wstring timing;              // /timing:file.txt writes how long the files took to open
    std::wstring metrics;             // /metrics:file.txt writes the DPI and the tree's sizes
    bool exit = false;                // /exit closes the viewer when done
};

ViewerOptions ParseOptions(const std::vector<std::wstring>& arguments);
