#include "tools/obd_reader/reader_script.h"

#include <cstdlib>
#include <locale>
#include <sstream>

#include "sources/obd_snapshot.h"

namespace {

bool Fail(std::string& error, int lineNumber, const std::string& line) {
    error = "line " + std::to_string(lineNumber) + ": " + line;
    return false;
}

// A whole word as a number within [low, high].
bool ReadNumber(std::istream& words, double low, double high, double& out) {
    std::string word;
    if (!(words >> word)) return false;
    std::istringstream value(word);
    value.imbue(std::locale::classic());
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        char* end = nullptr;
        out = static_cast<double>(std::strtoul(word.c_str() + 2, &end, 16));
        if (end == nullptr || *end != '\0' || end == word.c_str() + 2) return false;
    } else if (!(value >> out) || !(value >> std::ws).eof()) {
        return false;
    }
    return out >= low && out <= high;
}

} // namespace

bool ParseReaderScript(const std::string& text, std::vector<ScriptStep>& steps,
                       std::string& error) {
    using Command = ScriptStep::Command;
    steps.clear();
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string command;
        if (!(words >> command) || command[0] == '#') continue;

        ScriptStep step;
        double* n = step.number;
        bool ok = true;
        size_t repeat = 1;
        if (command == "link") {
            step.command = Command::Link;
            ok = ReadNumber(words, 0, 255, n[0]);
        } else if (command == "pid") {
            double pid = 0;
            step.command = Command::Pid;
            ok = ReadNumber(words, 0, kObdPidSlots - 1, pid) && ReadNumber(words, 0, 65535, n[0]);
            step.pid = static_cast<int>(pid);
        } else if (command == "volts") {
            step.command = Command::Volts;
            ok = ReadNumber(words, 0, 6553, n[0]);
        } else if (command == "odometer" || command == "trip") {
            step.command = command == "trip" ? Command::Trip : Command::Odometer;
            ok = ReadNumber(words, 0, 2.0e6, n[0]);
        } else if (command == "mpg") {
            step.command = Command::Mpg;
            ok = ReadNumber(words, 0, 655, n[0]) && ReadNumber(words, 0, 655, n[1]) &&
                 ReadNumber(words, 0, 655, n[2]);
        } else if (command == "factor") {
            step.command = Command::Factor;
            ok = ReadNumber(words, -1.0e6, 1.0e6, n[0]);
        } else if (command == "forget") {
            step.command = Command::Forget;
        } else if (command == "ask") {
            step.command = Command::Ask;
        } else if (command == "wait") {
            double ticks = 0;
            ok = ReadNumber(words, 0, 100000, ticks);
            repeat = static_cast<size_t>(ticks);
        } else {
            ok = false;
        }
        std::string extra;
        if (!ok || words >> extra) return Fail(error, lineNumber, line);
        steps.insert(steps.end(), repeat, step);
    }
    return true;
}
