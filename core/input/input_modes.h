// Two small chains through which tools take over keys and draw over the screen without touching the
// game: input modes, whose current member handles keys once per poll, and debug overlays, which the GUI
// frame draws after the screen. Both start empty; their members are owned by whoever installs them.
#pragma once

class InputMode {
public:
    // The base Enter and Leave accept.
    virtual bool Enter();
    virtual bool Leave();
    // The base passes the call on to the next mode (with this mode as the owner); false at the end.
    virtual bool HandleKeys(InputMode* owner);

    // Sets the next link, unless the given mode is this one.
    void SetNext(InputMode* mode);
    InputMode* Next() const { return m_next; }
    // Puts the new mode in front of this one: the owner (the mode whose next link is this one) links to
    // it, or without an owner it becomes current. Enters the new mode. False for none or this mode.
    bool Push(InputMode* mode, InputMode* owner);
    // Leaves this mode and links the owner to the next mode, or without an owner makes it current.
    bool Pop(InputMode* owner);

protected:
    // Members are owned by whoever installs them and are never deleted through the chain; the
    // operation table stays the three operations above.
    ~InputMode() = default;

    InputMode* m_next = nullptr;
};

// The first mode of the chain is g_input.currentMode (core/input/input.h); null at start.

// The mode (null for none) becomes current and is entered.
void InputModeSwitchTo(InputMode* mode);
// Once per poll: the current mode handles keys (with no owner); false when there is none.
bool InputModeCall();

class DebugOverlay {
public:
    // The base draws the rest of the chain and returns true at its end.
    virtual bool Draw();
    virtual bool OnPush();
    virtual bool OnPop();
    // After the three operations, so that they keep the first places of the table.
    virtual ~DebugOverlay() = default;

    DebugOverlay* Previous() const { return m_previous; }
    DebugOverlay* Next() const { return m_next; }

private:
    friend bool PushDebugOverlay(DebugOverlay* overlay);
    friend bool PopDebugOverlay(DebugOverlay* overlay);
    DebugOverlay* m_previous = nullptr;
    DebugOverlay* m_next = nullptr;
};

// The overlay drawn first is g_input.topOverlay; null at start.

// Links the overlay on top and calls its OnPush. False for none or one that is already in the chain.
bool PushDebugOverlay(DebugOverlay* overlay);
// Unlinks the overlay (its neighbours join), calls its OnPop; the next one becomes the top when it was
// the top. False for none or one that is not in the chain.
bool PopDebugOverlay(DebugOverlay* overlay);
// Draws the chain from the top; false when there is no overlay.
bool DrawDebugOverlays();
