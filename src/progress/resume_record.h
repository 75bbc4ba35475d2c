#pragma once

#include <string>

// The resume record: a one-line text file in the user's documents folder that remembers the
// target folder last chosen, so the next run finds the part file again.

// The documents folder (or "c:\"), one backslash, the program's own file name, ".dir".
std::string RecordPath();

// The target folder kept in the record: its first line without the line end, at most 259
// characters; UTF-8 behind a byte-order mark, else in the system code page (records of earlier
// builds). The desktop folder (or "c:\") when the record is missing or holds no folder.
std::string ReadRecord(const std::string& recordPath);

// Replaces the record with the folder, no line end: in the system code page when that holds it
// exactly, else in UTF-8 behind a byte-order mark. False when it cannot be written; the choice
// then holds for this run only.
bool WriteRecord(const std::string& recordPath, const std::string& folder);
