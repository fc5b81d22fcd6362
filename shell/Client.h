// Start-up of the client: the application object, its title, and every window and the data
// module in their fixed order. The first form created is the main window.
#pragma once

void CreateClient();
