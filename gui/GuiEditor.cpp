#include "GuiEditor.h"

#include "Frame.h"

static int processKnobMode = 0;

// Tick times compare by their difference, so the pump keeps its pace when
// the millisecond counter wraps (every 49.7 days).
static bool tickIsBefore(uint32_t time, uint32_t deadline) { return static_cast<int32_t>(time - deadline) < 0; }

GuiEditor::GuiEditor(EditorController* controller, platform::Platform* platform)
    : controller(controller),
      ownBackend(platform ? nullptr : platform::createDefaultPlatform()),
      backend(platform ? platform : ownBackend.get()) {
    nextIdleTick = backend->ticks();
    backend->initializeDragDrop();
}

GuiEditor::~GuiEditor() { backend->uninitializeDragDrop(); }

int GuiEditor::open(void* parent) {
    parentWindow = parent;
    postUpdate();
    return 0;
}

// Not while the idle pump is inside the host's idle (which may call here again).
void GuiEditor::idle() {
    if (inIdle) return;
    backend->dispatchEvents();
    if (updatePending.exchange(0, std::memory_order_relaxed)) update();
    if (Frame* open = frame) open->idle();
}

int GuiEditor::onKeyDown(const platform::KeyPress&) { return -1; }

int GuiEditor::eventDescriptor() { return backend->eventDescriptor(); }

void GuiEditor::setReadsOwnKeys(bool on) { backend->setFocusOnClick(on); }

bool GuiEditor::startOwnIdle(int milliseconds) {
    Frame* open = frame;
    return open && open->getWindow() && backend->startIdleTimer(open->getWindow(), milliseconds);
}

void GuiEditor::stopOwnIdle() {
    if (Frame* open = frame; open && open->getWindow()) backend->stopIdleTimer(open->getWindow());
}

int GuiEditor::ownIdleDescriptor() { return backend->idleTimerDescriptor(); }

int GuiEditor::onWindowKey(const platform::KeyPress& key) {
    windowKeyPending = true;
    const int answer = onKeyDown(key);
    windowKeyPending = false;
    return answer;
}

bool GuiEditor::windowGetsItsOwnKeys() const {
    const Frame* open = frame;
    return !windowKeyPending && open && open->hasKeyboardFocus();
}

int GuiEditor::setKnobMode(int mode) {
    processKnobMode = mode;
    return 1;
}

int GuiEditor::knobMode() { return processKnobMode; }

bool GuiEditor::onWheel(float distance) {
    Frame* open = frame;
    if (!open) return false;
    Point origin;
    return open->onWheel(nullptr, origin, distance);
}

void GuiEditor::setParameter(int, float) { postUpdate(); }

void GuiEditor::draw() {
    if (Frame* open = frame) open->drawView(nullptr);
}

// Runs the editor's idle at most about every 100 ms of tick time, sleeping
// 4 ms at a time close to the deadline, dispatches one pending paint, and
// lets the host run.
void GuiEditor::pumpIdle() {
    uint32_t now = backend->ticks();
    if (tickIsBefore(now, nextIdleTick)) {
        backend->sleep(4);
        now += 4;
        if (tickIsBefore(now, nextIdleTick - 50)) return;
    }
    idle();
    backend->dispatchOnePaint();
    nextIdleTick = now + 100;
    inIdle = true;
    controller->hostIdle();
    inIdle = false;
}
