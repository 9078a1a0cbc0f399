// What a run and a command of cmd share: the environment block a process starts with, and
// the wait for a job to empty.
#pragma once
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

// The driver's environment with the overrides (UTF-8) applied, as a Unicode block for
// CreateProcessW (NAME=value entries, sorted by name without regard to case, ending in an
// empty one).
std::vector<wchar_t> EnvironmentBlock(const std::map<std::string, std::optional<std::string>>& set);

// Waits, within the limit, until no process of the job is running; what the job counted.
JOBOBJECT_BASIC_ACCOUNTING_INFORMATION WaitForJobToEmpty(HANDLE job, DWORD timeoutMs);
