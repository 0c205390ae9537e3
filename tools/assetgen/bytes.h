// bytes.h -- little- and big-endian byte packing for the file writers, and writing a buffer to disk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void put_le16(Bytes& out, uint32_t v);
void put_le32(Bytes& out, uint32_t v);
void put_be16(Bytes& out, uint32_t v);
void put_be32(Bytes& out, uint32_t v);
void put_text(Bytes& out, const char* four_cc);

// Writes the whole buffer to `path`; false if the file cannot be written completely.
bool write_file(const std::string& path, const Bytes& data);
