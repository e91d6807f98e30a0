#pragma once
// Makes a system window class refuse WM_CREATE (answering -1) while an
// object of this type lives, by swapping the class's own window procedure:
// a window of that class, or of a superclass made from it afterwards, then
// fails after WM_NCCREATE, the way a native control fails when it runs out
// of resources. One class at a time.

#include <windows.h>

class FailingCreate
{
public:
    explicit FailingCreate(LPCWSTR systemClass);
    ~FailingCreate();
    FailingCreate(const FailingCreate&) = delete;
    FailingCreate& operator=(const FailingCreate&) = delete;

    bool Active() const { return m_sample != nullptr; }
    int Refusals() const;  // WM_CREATE messages refused so far

private:
    HWND m_sample = nullptr;  // a window of the class, through which the class is changed
};

// True when every heap of the process passes the system's own check.
bool ProcessHeapsAreWhole();
