// module_probe dir | add NAME | remove NAME: what the program sees of its own
// location, run from wherever a test has copied it. Prints the folder as hex
// bytes, or 1/0 for the autostart calls.
#include "app/ModuleDir.h"
#include "app/SyncController.h"
#include "app/SyncPlatform.h"
#include "app/SyncView.h"

#include <cstdio>
#include <cstring>

namespace
{
class CNoView : public CSyncView
{
public:
    void ShowResult(LPCSTR) override {}
    void EnableIntervalList(BOOL) override {}
    void SetAutostartCheck(BOOL) override {}
    void SetBusy(BOOL) override {}
    void PostSyncDone() override {}
};
} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "dir") == 0)
    {
        InitModuleDir();
        for (unsigned char c : g_strModuleDir)
            printf("%02x", c);
        printf("\n");
        return 0;
    }
    if (argc == 3 && (strcmp(argv[1], "add") == 0 || strcmp(argv[1], "remove") == 0))
    {
        CNoView view;
        CSyncPlatform platform;
        CSyncController controller(view, platform);
        printf("%d\n", controller.SetAutostart(strcmp(argv[1], "add") == 0, argv[2]) ? 1 : 0);
        return 0;
    }
    fprintf(stderr, "usage: module_probe dir | add NAME | remove NAME\n");
    return 2;
}
