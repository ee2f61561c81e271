#pragma once
// Saving a file whole or not at all.

#include <QString>

#include <string_view>

// Replaces the file at path with text: written beside it and renamed over
// it only when every byte is on disk (QSaveFile), unbuffered so that a write
// cut short (a full disk, the file-size limit) is seen at once; buffered
// QSaveFile writes report such a failure too late and commit a truncated
// file. False with the reason in error; the old file is then untouched.
bool SaveTextFile(const QString& path, std::string_view text, QString& error);
