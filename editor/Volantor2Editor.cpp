#include "editor/Volantor2Editor.h"

#include "core/Volantor2.h"
#include "editor/Button.h"
#include "editor/DropView.h"
#include "editor/EffectPanels.h"
#include "editor/Keyboard.h"
#include "editor/Menu.h"
#include "editor/TreeView.h"
#include "editor/WaveformDisplay.h"
#include "engine/Instrument.h"
#include "engine/Rack.h"
#include "host/BundleServices.h"
#include "sources/BuiltinSounds.h"

using namespace VSTGUI;

namespace {

constexpr int kSelectedInstrument = 704;
constexpr int kLoopFirst = 640;
constexpr int kLoopLast = 703;
constexpr int kInstrumentLast = 511;
constexpr int kLoopParameter = 5;

CBitmap* loadBitmap(const char* name) { return new CBitmap(CResourceDescription(name)); }

void release(CBitmap* bitmap)
{
    if (bitmap)
        bitmap->forget();
}

} // namespace

Volantor2Editor* createEditor(AudioEffectX* effect) { return new Volantor2Editor(effect); }

Volantor2Editor::Volantor2Editor(AudioEffect* effect) : AEffGUIEditor(effect), plugin(static_cast<Volantor2*>(effect))
{
    rect.top = 0;
    rect.left = 0;
    rect.bottom = 505;
    rect.right = 820;
    if (effect)
        effect->setEditor(this);
    makeName2();
    makeName3();
    std::string stored;
    if (readUserPath(stored))
        userPath = stored;
}

Volantor2Editor::~Volantor2Editor() { closeFrame(); }

bool Volantor2Editor::open(void* parent)
{
    // A window still open is closed first: hosts may open twice.
    closeFrame();
    AEffGUIEditor::open(parent);
    setKnobMode(kLinearMode);

    CBitmap* background = loadBitmap("background6.png");
    frame = new CFrame(CRect(0, 0, 820, 505), this);
    frame->setBackground(background);
    const bool shown = parent ? frame->open(parent, CFrame::PlatformType::kX11EmbedWindowID)
                              : frame->open(nullptr, CFrame::PlatformType::kOffscreen);
    if (!shown) {
        release(background);
        frame->forget();
        frame = nullptr;
        AEffGUIEditor::close();
        return false;
    }

    buttonGroup = new ButtonGroup();

    const CRect waveArea(420, 0, 810, 250);
    waveformDisplay = new WaveformDisplay(waveArea);
    frame->addView(waveformDisplay);
    loopView = new LoopView(waveArea, waveformDisplay, this);
    frame->addView(loopView);
    scrollBar = new ScrollBar(CRect(420, 250, 810, 270), waveformDisplay);
    frame->addView(scrollBar);
    statusBar = new StatusBar(CRect(420, 270, 810, 290), waveformDisplay);
    frame->addView(statusBar);

    CBitmap* logo = loadBitmap("logo3.png");
    frame->addView(new CTextLabel(CRect(435, 300, 820, 400), "", logo));

    CBitmap* white = loadBitmap("white.png");
    CBitmap* black = loadBitmap("black.png");
    keyboard = new Keyboard(CRect(0, 400, 589, 505), plugin, white, black);
    frame->addView(keyboard);

    const CRect stripArea(0, 0, 240, 400);
    dropView = new DropView(stripArea, plugin);
    auto* strip = new CScrollView(CRect(180, 0, 420, 400), stripArea, CScrollView::kVerticalScrollbar, 16, nullptr);
    strip->addView(dropView);
    strip->setTransparency(true);
    if (CScrollbar* bar = strip->getVerticalScrollbar()) {
        bar->setFrameColor(CColor(0, 255, 0, 80));
        bar->setScrollerColor(CColor(0, 255, 0, 80));
        bar->setBackgroundColor(kTransparentCColor);
    }
    frame->addView(strip);

    int count = 0;
    const float selection = fillStrip(false, count);
    int shownInstrument = (int)(selection * 16);
    if (shownInstrument >= count)
        shownInstrument = 0;
    dropView->setWaveform(shownInstrument);

    // The browser fills its column; its folders and the user folder's scan come with it.
    treeView = new TreeView(CRect(0, 0, 180, 400), dropView);
    frame->addView(treeView);
    treeView->updateShowItemList();

    const CRect panelArea(0, 0, 230, 105);
    delayView = new DelayView(panelArea, this);
    globalView = new GlobalView(panelArea, this);
    phaserView = new PhaserView(panelArea, this);
    for (CView* panel : {static_cast<CView*>(delayView), static_cast<CView*>(globalView), static_cast<CView*>(phaserView)})
        panel->setTransparency(true);

    static CFontDesc* tabFont = new CFontDesc("System", 12, kNormalFace);
    auto* tabs = new CTabView(panelArea, CRect(0, 0, 22, 36), nullptr, CTabView::kPositionRight, 0);
    tabs->addTab(delayView, "1");
    tabs->addTab(phaserView, "2");
    tabs->addTab(globalView, "3");
    tabs->setTabFontStyle(tabFont, 12, kWhiteCColor, CColor(90, 90, 90, 255));
    auto* box = new CViewContainer(CRect(590, 400, 820, 505));
    box->setBackgroundColor(CColor(0, 112, 0, 76));
    box->addView(tabs);
    frame->addView(box);

    for (CBitmap* bitmap : {background, logo, white, black})
        release(bitmap);

    // Values queued while the window was closed are stale: start from the plug-in.
    Update stale;
    while (updates.pop(stale)) {
    }
    opened = true;
    return true;
}

void Volantor2Editor::close()
{
    closeFrame();
    AEffGUIEditor::close();
}

// The views go with the frame; the table and the pointers into the window
// are cleared so nothing reaches a destroyed view.
void Volantor2Editor::closeFrame()
{
    opened = false;
    for (CControl*& control : controls)
        control = nullptr;
    keyboard = nullptr;
    waveformDisplay = nullptr;
    loopView = nullptr;
    scrollBar = nullptr;
    statusBar = nullptr;
    treeView = nullptr;
    dropView = nullptr;
    delayView = nullptr;
    globalView = nullptr;
    phaserView = nullptr;
    contextMenu = nullptr;
    if (frame) {
        CFrame* closing = frame;
        frame = nullptr;
        closing->close();
        closing->forget();
    }
    delete buttonGroup;
    buttonGroup = nullptr;
}

void Volantor2Editor::idle()
{
    if (opened) {
        if (rebuildRequested.exchange(false)) {
            clearView();
            updateView();
        }
        applyQueuedUpdates();
    }
    AEffGUIEditor::idle();
    if (idleCounter >= 48) {
        // The browser shows a running folder scan's progress; the scan comes with the browser.
        if (opened && treeView && userItem)
            treeView->setDirty(true);
        idleCounter = 0;
    }
    ++idleCounter;
}

void Volantor2Editor::setParameter(VstInt32 index, float value)
{
    if (index < 0 || index >= kParameters || !opened)
        return;
    if (!updates.push(Update{false, index, value, 0}))
        updatesLost = true;
}

void Volantor2Editor::sendMidiMessage(int status, int note, int)
{
    if (!opened)
        return;
    if (!updates.push(Update{true, note, 0.f, status}))
        updatesLost = true;
}

void Volantor2Editor::applyQueuedUpdates()
{
    Update update;
    while (updates.pop(update)) {
        if (update.midi) {
            if (keyboard)
                keyboard->setMidiNote(update.status, update.index);
            continue;
        }
        if (CControl* control = controls[update.index])
            control->setValue(update.value);
        setParameterSpecial(update.index, update.value);
    }
    // Some values never arrived: take every control's value from the plug-in.
    if (updatesLost.exchange(false)) {
        for (int index = 0; index < kParameters; ++index)
            if (CControl* control = controls[index])
                control->setValue(plugin->getParameter(index));
    }
}

void Volantor2Editor::valueChanged(CControl* control)
{
    if (control)
        plugin->setParameterAutomated(control->getTag(), control->getValue());
}

void Volantor2Editor::setParameterSpecial(int index, float value)
{
    if (index == kSelectedInstrument) {
        if (!opened)
            return;
        if (dropView)
            dropView->setWaveform((int)(value * 16));
    }
    bool loopMoved = index >= kLoopFirst && index <= kLoopLast;
    if (index >= 0 && index <= kInstrumentLast && index % Instrument::kParameterCount == kLoopParameter)
        loopMoved = index / Instrument::kParameterCount < plugin->getInstrumentCount();
    if (loopMoved) {
        if (loopView)
            loopView->updateLoopPosition();
        if (statusBar)
            statusBar->setDirty(true);
    }
}

void Volantor2Editor::addControl(CControl* control)
{
    if (control && control->getTag() >= 0 && control->getTag() < kParameters)
        controls[control->getTag()] = control;
}

void Volantor2Editor::removeControl(CControl* control)
{
    if (control && control->getTag() >= 0 && control->getTag() < kParameters)
        controls[control->getTag()] = nullptr;
}

CControl* Volantor2Editor::getControl(int tag) const
{
    return (tag >= 0 && tag < kParameters) ? controls[tag] : nullptr;
}

// Gives the strip a panel for each instrument of the rack (without those
// marked for removal when asked) and answers the stored selection.
float Volantor2Editor::fillStrip(bool skipMarked, int& count)
{
    ReadGate::Reader reading(plugin->getRackReaders());
    count = 0;
    if (Rack* rack = plugin->getRack(0)) {
        count = rack->getCount();
        for (int i = 0; i < count; ++i) {
            Instrument* instrument = rack->getInstrumentAt(i);
            if (instrument && !(skipMarked && instrument->isMarkedForDelete()))
                dropView->addInstrumentView(instrument);
        }
    }
    return plugin->getParameter(kSelectedInstrument);
}

bool Volantor2Editor::clearView()
{
    if (!opened || !dropView)
        return false;
    dropView->clearView();
    return true;
}

void Volantor2Editor::updateView()
{
    if (!opened || !dropView)
        return;
    int count = 0;
    dropView->setWaveform((int)(fillStrip(true, count) * 16));
    for (EffectPanel* panel : {static_cast<EffectPanel*>(delayView), static_cast<EffectPanel*>(globalView),
                               static_cast<EffectPanel*>(phaserView)})
        if (panel)
            panel->updateMe();
}

void Volantor2Editor::processContextMenu(Menu*, int) {}

bool Volantor2Editor::writeScreenshot(const std::string& path)
{
    if (!opened || !frame || !frame->getOffscreen())
        return false;
    applyQueuedUpdates();
    frame->getOffscreen()->render();
    return frame->getOffscreen()->writePNG(path);
}
