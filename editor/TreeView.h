// The sound browser. For now it holds its place.
#pragma once

#include "editor/StandInView.h"

class DropView;

class TreeItem
{
};

class TreeView : public StandInView
{
public:
    TreeView(const VSTGUI::CRect& size, DropView* dropView) : StandInView(size, "sound browser"), dropView(dropView) {}
    void updateShowItemList() {}

private:
    DropView* dropView;
};
