#pragma once
// The named steps of a driven run, for the screenshot scripts. Every step is
// printed ("step 03 search"). When the environment names a hand-over folder
// (CALVERIN_DRIVER_SHOTS, a Windows path), the step also waits there for its
// shot: it writes "step.request" holding "NN-name left top right bottom" (the
// window's screen rectangle) and goes on once the script has taken the shot
// and deleted the file.

#include <windows.h>

#include <string>

class StepMarks
{
public:
    StepMarks();

    // Marks the next step, shot over the window's rectangle; throws when a
    // waiting script does not take the shot in time.
    void Mark(const std::string& name, HWND window);

    bool ShotsTaken() const { return !m_folder.empty(); }

private:
    std::wstring m_folder;  // empty: nobody takes shots
    int m_count = 0;
};
