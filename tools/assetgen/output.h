// Writing generated files under the output folder, only when their bytes change, so that a
// rebuild leaves untouched files with their old times.
#pragma once

#include <string>
#include <vector>

// Writes bytes to root/relative, making folders as needed. Returns false on failure.
bool Output_Write(const std::string& root, const std::string& relative,
                  const std::vector<unsigned char>& bytes);
bool Output_ReadFile(const std::string& path, std::vector<unsigned char>* bytes);
