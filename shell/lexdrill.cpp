// The client. It never returns from the message loop: closing the main window ends the process.
#include "Client.h"
#include "Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CreateClient();
    Application->Run();
    return 0;
}
