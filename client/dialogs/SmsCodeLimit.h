#pragma once
// The daily limit of SMS codes, shared by every window that requests one:
// at most five codes are counted per local day, in "send_date" (year * 10000
// + month * 100 + day) and "send_count" of the client's registry key. A
// missing, empty or unreadable value counts as 0; a failed write changes
// nothing. GUI thread only.

// Today's date as "send_date" stores it.
unsigned TodayAsDateNumber();
// True when today already counted five codes.
bool IsCodeLimitReached();
// Counts one more code sent today (a new day starts again at 1); nothing
// once the limit is reached.
void CountCodeSent();
