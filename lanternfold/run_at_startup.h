// The server's own start-up entry under the machine's "Run" key: written
// first among the key's values so that the server starts before the programs
// whose notification icons it must collect.
#pragma once
#include <windows.h>

constexpr const char kRunAtStartupValue[] = "1A:Vantrell RuvuRodevur";

class CRunAtStartup {
public:
    // command: the text to write; none means this program's quoted path.
    explicit CRunAtStartup(const char* value_name, const char* command = nullptr);

    // 1 when the value exists with a non-empty text in the chosen key.
    BOOL IsRegistered() const;
    // Writes (on) or removes (off) the value; 1 only when every write worked.
    BOOL SetRegistered(BOOL on);

private:
    HKEY OpenChosenKey(REGSAM access) const;
    bool MoveOthersBehindEntry(HKEY key);

    bool keep_order_ = true;
    bool is_nt_ = true;
    char value_name_[MAX_PATH] = {};
    char command_[MAX_PATH + 2] = {};
};
