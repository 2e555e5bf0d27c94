// RUVViewer: a window that hosts the RUV file tree control and opens RUV files in it.
//   RUVViewer [files...] [/expand:N] [/select:name,...] [/dump:tree.txt] [/screenshot:window.bmp]
//             [/timing:times.txt] [/metrics:sizes.txt] [/exit]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "Options.h"
#include "ViewerWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int show)
{
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(words[i]);
    LocalFree(words);
    const ViewerOptions options = ParseOptions(arguments);

    int exitCode = 0;
    {
        ViewerWindow viewer;
        if (!viewer.Create(show)) {
            exitCode = 2;
        } else {
            viewer.Run(options);
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (!viewer.PreTranslateMessage(message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    OleUninitialize();
    return exitCode;
}
