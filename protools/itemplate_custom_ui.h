// ITemplateCustomUI: the editor wrapper as the process and the placeholder view see it.
// Slot order is fixed. Only the interface exists so far: the wrapper that opens the
// effect's editor in a child window of the host's window comes with the editor.
#pragma once

class ITemplateProcess;

class ITemplateCustomUI {
public:
    explicit ITemplateCustomUI(ITemplateProcess* process) : process_(process) {}
    virtual ~ITemplateCustomUI() = default;
    virtual void RegisterWindowClass() = 0;
    virtual bool Open(void* parentWindow) = 0;
    virtual bool Close() = 0;
    virtual long Reserved() = 0;
    virtual void Idle() = 0;
    virtual void Draw(long left, long top, long right, long bottom) = 0;
    virtual void GetRect(long* left, long* top, long* right, long* bottom) = 0;
    virtual void EventNotification(long a, long b, long c) = 0;
    virtual void EventQuery(long a, long b, long* handled) = 0;

protected:
    ITemplateProcess* process_;
};
