// File and folder choosers, run with zenity or kdialog away from the GUI thread.
#pragma once

#include "vstgui/CBaseObject.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace VSTGUI {

class CFrame;

class CNewFileSelector : public CBaseObject
{
public:
    enum Style { kSelectFile, kSelectSaveFile, kSelectDirectory };

    static CNewFileSelector* create(CFrame* parent = nullptr, Style style = kSelectFile);
    ~CNewFileSelector() override;

    void setTitle(const char* title);
    void setInitialDirectory(const char* path);
    void setAllowMultiFileSelection(bool state);

    // Asynchronous: the delegate is notified with kSelectEndMessage from the GUI thread's next
    // timer pass. False when neither tool is installed or one is running already.
    bool run(CBaseObject* delegate);
    bool isRunning() const { return running; }

    uint32_t getNumSelectedFiles() const { return static_cast<uint32_t>(selected.size()); }
    const char* getSelectedFile(uint32_t index) const;

    static const char* kSelectEndMessage;

    // The argv used to run `tool` ("zenity" or "kdialog", as a path), for this selector's settings.
    std::vector<std::string> commandLine(const std::string& tool) const;

private:
    CNewFileSelector(CFrame* parent, Style style);
    static std::string findTool(const char* name);

    CFrame* frame;
    Style style;
    std::string title;
    std::string initialDirectory;
    bool multiple = false;
    std::atomic<bool> running{false};
    std::thread worker;
    std::vector<std::string> selected;
};

} // namespace VSTGUI
