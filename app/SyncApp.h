// The application object: remembers where the program lives and runs the
// main dialog; the program ends when the dialog closes.
#pragma once

#include "framework/Application.h"

class CSyncApp : public CApplication
{
protected:
    BOOL InitInstance() override;
};
