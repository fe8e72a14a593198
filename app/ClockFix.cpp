// clockfix.exe: the program's one application object.
#include "app/SyncApp.h"

CSyncApp theApp;
