// What the player's window tests share: the program's start-up with the start-up about window's
// time passing at once, and a model written into a file as the player saves one.
#pragma once

#include <string>

class ModelDocument;

// Starts the player as the program does; the start-up about window closes at its first turn.
bool StartPlayerAtOnce();
// Writes the model into the file at the path and destroys it; true when the whole file was written.
bool WriteModel(ModelDocument* document, const std::string& path);
