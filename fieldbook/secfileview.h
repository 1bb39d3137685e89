// The section file viewer: the observer picks a section record file
// (".szd") of the data folder "dataszd" from a menu and reads it, as the GBK
// text it is, page by page in a message box. Esc in the text goes back to the
// list; Esc in the list leaves.
#pragma once

// Runs the viewer. Returns 1 when the list was shown, 0 when the folder holds
// no record file (the observer is told "没有测段文件").
int SecFileView();

// Reads the next part of an open text file into buf (size bytes): at most
// size - 1 bytes, ending after a line break once it holds half of that, and
// never inside a two-byte GBK character. Returns its length, 0 at the end of the file.
int ReadTextPart(int* file, char* buf, int size);
