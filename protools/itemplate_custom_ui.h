// ITemplateCustomUI: the editor wrapper as the process and the placeholder view see it
// (CTemplateCustomUI implements it). Slot order is fixed. [UI thread]
#pragma once

class ITemplateProcess;

class ITemplateCustomUI {
public:
    explicit ITemplateCustomUI(ITemplateProcess* process) : process_(process) {}
    virtual ~ITemplateCustomUI() = default;
    virtual void RegisterWindowClass() = 0;
    [[nodiscard]] virtual bool Open(void* parentWindow) = 0;
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
