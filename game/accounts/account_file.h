// Account files "accounts\" + name + ".acc": a "UFF 1.0" file whose entry "account" is empty and whose
// child, named by the account, holds the record, little-endian, field by field.
#pragma once
#include <string>
#include <vector>

#include "core/types.h"

struct PlayerAccount;
class UffFile;
class UffWriter;

// "accounts\" + name + ".acc".
std::string AccountFilePath(const char* name);
// The file the account lives in: the one it was read from, else "accounts\" + name + ".acc".
std::string AccountFileOf(const PlayerAccount& account);
// Copies the live settings into the account, then writes its file through a temporary file that
// replaces the old one only once it is whole. False when nothing was replaced, said on console 0 and
// in the log.
bool AccountSave(PlayerAccount& account);
// The record's bytes (texts cut to 127 bytes, at most 255 missions a mode).
void AccountWriteRecord(PlayerAccount& account, std::vector<u8_t>& out);
// Reads a record; false, leaving the account incomplete, for bytes that do not form one.
bool AccountReadRecord(PlayerAccount& account, const u8_t* data, u32_t size);
// Opens the record of an account file and reads it; false when the file is not a whole account.
bool AccountReadFile(PlayerAccount& account, UffFile& file);
