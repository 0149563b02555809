#include "tools/gps_server/line_assembler.h"

size_t AssembleLines(LineAssembler& assembler, const uint8_t* bytes, size_t size,
                     std::vector<std::string>& lines) {
    size_t added = 0;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '\n') {
            if (!assembler.overlong) {
                if (!assembler.partial.empty() && assembler.partial.back() == '\r')
                    assembler.partial.pop_back();
                if (assembler.partial.size() <= assembler.limit) {
                    lines.push_back(std::move(assembler.partial));
                    ++added;
                }
            }
            assembler.partial.clear();
            assembler.overlong = false;
        } else if (!assembler.overlong) {
            // One more than the limit may be the '\r' of a line exactly at the limit.
            if (assembler.partial.size() > assembler.limit) {
                assembler.partial.clear();
                assembler.overlong = true;
            } else {
                assembler.partial.push_back(c);
            }
        }
    }
    return added;
}

void ResetLines(LineAssembler& assembler) {
    assembler.partial.clear();
    assembler.overlong = false;
}
