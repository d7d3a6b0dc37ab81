// Opening what the command line names: the whole text as one path when it opens as a file, else
// the first of its words that does not name a program, each path taken to its long name first.
#pragma once

class DynamicArray;

// Replaces the path's last component by the long name the file system reports for the path;
// unchanged when nothing matches or the result would not fit a path. The path holds
// kCommandPathSize bytes.
void ExpandLongFileName(char* path);
// Opens the first word that does not name a program once its long name is known; words too long
// for a path are passed over.
void OpenFirstFileArgument(const DynamicArray* words);
// An empty text opens the Open dialog; a text that opens as a file is that file; otherwise the
// text's words are tried.
void OpenCommandLine(const char* text);
