// A hidden top-level window that records the messages posted to it, and
// bounded pumping for tests that wait on the message queue.
#pragma once

#include <functional>
#include <vector>

#include "framework/Afx.h"

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageSink {
public:
    // Records messages in [first, last]; others go to the default procedure.
    MessageSink(UINT first, UINT last);
    ~MessageSink();
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;

    HWND hwnd() const { return m_hWnd; }
    const std::vector<RecordedMessage>& messages() const { return m_messages; }
    void Clear() { m_messages.clear(); }
    size_t Count(UINT message) const;

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);

    HWND m_hWnd = nullptr;
    UINT m_first;
    UINT m_last;
    std::vector<RecordedMessage> m_messages;
};

// Handles whatever is queued for this thread now.
void DrainQueue();
// Pumps this thread's queue until done() or timeoutMs passes; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Pumps this thread's queue for about ms milliseconds.
void PumpFor(DWORD ms);
