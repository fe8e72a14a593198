// The program's entry hands over to its application object.
#include "framework/Application.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CApplication* pApplication = CApplication::GetCurrent();
    return pApplication ? pApplication->Run(hInstance) : 1;
}
