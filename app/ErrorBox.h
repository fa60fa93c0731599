#pragma once

// Shows the system's text for the calling thread's last error, followed by
// " - code", in a modal "Warning" box.
void ShowLastErrorBox(int code);
