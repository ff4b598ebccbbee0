// The OLE drop target of a frame's window: it accepts dragged text and file
// lists, resolves dropped shortcut files to their targets, and hands what was
// dropped to the window's events (the frame routes it to its views).
#pragma once

#include <ole2.h>

#include "platform/Platform.h"

class FileDropTarget : public IDropTarget {
public:
    explicit FileDropTarget(platform::WindowEvents* events) : events(events) { ++live; }
    virtual ~FileDropTarget() { --live; }

    // Targets that exist now.
    static int liveTargets() { return live; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // Resolves a name ending in ".lnk" (any case) in place to the shortcut's
    // target, as a short path; leaves it unchanged when that fails.
    static void resolveShortcut(char* name, int capacity);

private:
    // Hand the dropped data to the window; true when a view took it.
    bool dropText(HGLOBAL memory);
    bool dropFiles(HGLOBAL memory);

    LONG references = 0;
    bool accepts = false;
    platform::WindowEvents* events;
    static inline int live = 0;
};
