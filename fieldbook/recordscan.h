// Reading station data back from a section record file.
//
// Every tagged line of a record file that carries encoded data ends with
// the chain value after that data at a fixed place (see codec.h):
//   a station element "<测站 编号="n"...>DATA </测站>": the four bytes that
//     start eight bytes before the last blank of the line;
//   other lines that begin with "<": the four bytes that start five bytes
//     before the last double quote;
//   a content line of an event (encoded text alone on its line): the four
//     bytes that start five bytes before the end of the line.
// A closing line such as "</观测事件>" has no double quote and carries the
// chain on unchanged. So the chain value that decodes station n is the one
// taken from the line before its element.
#pragma once

// Chain value carried by one record-file line; 1 with it in *value, 0 when
// the line carries none (the value read before stays in force).
int RecordLineChain(const char* line, short* value);

// Scans an open record file from its current position to its end and takes
// the last element of station n: its encoded data (into data, `size` bytes)
// and the chain value in force before it (into *key). Returns 1 when found,
// 0 when station n is not there or its data do not fit. Uses SystemBuf.
int FindStationData(int* file, long n, char* data, unsigned size, short* key);

// Opens the record file ("r+"), finds station n and decodes its text into
// text (`size` bytes). Returns 1, or 0 when the file cannot be opened, the
// station is missing, or its data are corrupt.
int ReadStationText(const char* path, long n, char* text, unsigned size);
