// module_probe dir | add NAME | remove NAME: what the program sees of its own
// location, run from wherever a test has copied it. Prints the folder as hex
// bytes of its UTF-8 form, or 1/0 for the Run value calls.
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

// The Run value, which an elevated program does not use, is what the tests
// follow wherever the probe lives.
class CUnelevatedPlatform : public CSyncPlatform
{
public:
    BOOL IsElevated() override { return FALSE; }
};
} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "dir") == 0)
    {
        InitModuleDir();
        char utf8[4 * MAX_PATH] = {};
        WideCharToMultiByte(CP_UTF8, 0, g_strModuleDir.c_str(), -1, utf8, sizeof(utf8), NULL, NULL);
        for (const char* p = utf8; *p != '\0'; ++p)
            printf("%02x", static_cast<unsigned char>(*p));
        printf("\n");
        return 0;
    }
    if (argc == 3 && (strcmp(argv[1], "add") == 0 || strcmp(argv[1], "remove") == 0))
    {
        CNoView view;
        CUnelevatedPlatform platform;
        CSyncController controller(view, platform);
        printf("%d\n", controller.SetAutostart(strcmp(argv[1], "add") == 0, argv[2]) ? 1 : 0);
        return 0;
    }
    fprintf(stderr, "usage: module_probe dir | add NAME | remove NAME\n");
    return 2;
}
