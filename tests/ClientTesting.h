// The whole client for the tests and the gallery that run it.
#pragma once

#include <string>

#include "Client.h"
#include "HttpTestServer.h"
#include "Sites.h"
#include "TempDir.h"
#include "WindowTesting.h"

// Creates the client in folder, the current directory, with the configuration of a candidate of
// an exam, its pages asked of the tests' local server. Its database cannot be opened here: the
// message box that says so is answered.
inline void CreateClientIn(const TTempCurrentDir& folder)
{
    folder.Write("Config.INI", "[OLEDB5]\r\nkaoshi=司法考试\r\nksbh=K01\r\nHZSID=H7\r\n");
    const std::string server = TestServerUrl("");
    ServiceSites() = {server, server, server};
    MessageBoxesDuring(CreateClient);
}
