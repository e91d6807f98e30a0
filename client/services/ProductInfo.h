#pragma once
// Names and texts that identify this program to the user, to a second start
// of itself and to the web service. Kept as literals so that narrow and wide
// texts can be built from them at compile time.

// The product's display name: main window title, message-box titles and part
// of the single-instance semaphore's name.
#define CALVERIN_DISPLAY_NAME "Calverin"

// The client version as the request headers and the log's first line give it.
#define CALVERIN_VERSION_TEXT "200"
