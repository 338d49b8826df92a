// The plug-in's window: an 820 x 505 frame holding the sound browser, the
// instrument strip, the waveform area, the logo, the keyboard and the effect
// tab box. It listens to the parameter controls and keeps a table of them by
// tag, so that changes travel both ways between controls and parameters.
#pragma once

#include "editor/UpdateQueue.h"
#include "host/AEffGUIEditor.h"
#include "vstgui/vstgui.h"

#include <atomic>
#include <string>

class AudioEffectX;
class Volantor2;
class ButtonGroup;
class Menu;
class Keyboard;
class WaveformDisplay;
class LoopView;
class ScrollBar;
class StatusBar;
class TreeView;
class TreeItem;
class DropView;
class DelayView;
class GlobalView;
class PhaserView;

class Volantor2Editor : public AEffGUIEditor, public VSTGUI::IControlListener
{
public:
    static constexpr int kParameters = 768;

    explicit Volantor2Editor(AudioEffect* effect);
    ~Volantor2Editor() override;

    bool open(void* parent) override;
    void close() override;
    void idle() override;
    // Any thread: the value reaches the control on the GUI thread's next idle.
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(VSTGUI::CControl* control) override;

    void setParameterSpecial(int index, float value);
    void addControl(VSTGUI::CControl* control);
    void removeControl(VSTGUI::CControl* control);
    VSTGUI::CControl* getControl(int tag) const;
    // Any thread: lights the keyboard's key on the GUI thread's next idle.
    void sendMidiMessage(int status, int note, int velocity);
    bool clearView();
    void updateView();
    // Any thread: the plug-in's whole state changed; the next idle runs
    // clearView and updateView.
    void requestRebuild() { rebuildRequested = true; }
    // Writes the window as a PNG; offscreen windows only.
    bool writeScreenshot(const std::string& path);
    void resize(int, int) {}

    // The browser's context menu reports the entry clicked; virtual so that
    // tests can watch it.
    virtual void processContextMenu(Menu* menu, int index);

    Volantor2* getPlugin() const { return plugin; }
    bool isOpened() const { return opened; }
    ButtonGroup* getButtonGroup() const { return buttonGroup; }
    Keyboard* getKeyboard() const { return keyboard; }
    DropView* getDropView() const { return dropView; }
    const std::string& getUserPath() const { return userPath; }

private:
    void applyQueuedUpdates();
    void closeFrame();
    float fillStrip(bool skipMarked, int& count);

    Volantor2* plugin;
    std::atomic<bool> opened{false}; // read by the threads that queue updates
    std::string userPath;
    Keyboard* keyboard = nullptr;
    WaveformDisplay* waveformDisplay = nullptr;
    LoopView* loopView = nullptr;
    ScrollBar* scrollBar = nullptr;
    StatusBar* statusBar = nullptr;
    TreeView* treeView = nullptr;
    DropView* dropView = nullptr;
    ButtonGroup* buttonGroup = nullptr;
    DelayView* delayView = nullptr;
    GlobalView* globalView = nullptr;
    PhaserView* phaserView = nullptr;
    VSTGUI::CControl* controls[kParameters] = {};
    TreeItem* userItem = nullptr;
    Menu* contextMenu = nullptr;

    // Parameter values and MIDI notes from host and audio threads, applied by
    // the GUI thread in the order they came.
    struct Update
    {
        bool midi;
        int index; // parameter index, or note
        float value;
        int status;
    };
    UpdateQueue<Update, 4096> updates;
    // Set when an update found the queue full: the next idle reloads every control.
    std::atomic<bool> updatesLost{false};
    // Set by the plug-in when its whole state changed.
    std::atomic<bool> rebuildRequested{false};
    int idleCounter = 0;
};

// A new editor for the plug-in.
Volantor2Editor* createEditor(AudioEffectX* effect);
