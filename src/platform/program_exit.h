#pragma once

// Ending the program from deep inside it (a firmware too old for the tool). The desktop app
// ends its event loop and the process with the code; tests only record the request, and the
// caller must not rely on the call not returning.

namespace qv::platform {

class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    virtual void EndProgram(int exitCode) = 0;
};

}  // namespace qv::platform
