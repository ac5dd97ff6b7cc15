#include "windows/DisplayToolWindows.h"

#include "display/Displayer.h"
#include "settings/WindowPlacement.h"
#include "windows/DrawingBox.h"
#include "windows/ObjectDetailDialog.h"
#include "windows/PresentDialog.h"

namespace tessarin {

DisplayToolWindows::DisplayToolWindows(CDisplayer& display, Profile& profile)
    : display_(display), profile_(profile), details_(new CObjectDetailDialog(profile, &display)) {
    CObjectDetailDialog* details = details_;
    connect(&display, &CDisplayer::detailsChanged, details, &CObjectDetailDialog::refresh);
    connect(&display, &CDisplayer::referenceWindowChanged, details, &CObjectDetailDialog::resetReference);
    connect(&display, &CDisplayer::referenceWindowMoved, details, &CObjectDetailDialog::followReference);
    connect(details, &ForwardingDialog::filesDropped, this, &DisplayToolWindows::filesDropped);
    connect(details, &CObjectDetailDialog::notice, this, &DisplayToolWindows::notice);
}

DisplayToolWindows::~DisplayToolWindows() {
    delete present_;
    delete drawingBox_;
    delete details_;
}

CObjectDetailDialog* DisplayToolWindows::details() const { return details_; }
CDrawingBox* DisplayToolWindows::drawingBox() const { return drawingBox_; }
CPresentDialog* DisplayToolWindows::presentDialog() const { return present_; }

void DisplayToolWindows::toggleDetails() { details_->setVisible(!details_->isVisible()); }

void DisplayToolWindows::ensureDrawingBox() {
    if (drawingBox_) return;
    drawingBox_ = new CDrawingBox(&display_);
    connect(drawingBox_, &CDrawingBox::toolChanged, &display_, &CDisplayer::setDrawingTool);
    connect(drawingBox_, &ForwardingDialog::filesDropped, this, &DisplayToolWindows::filesDropped);
    display_.setDrawingTool(drawingBox_->tool());
    placeBesideOthers(*drawingBox_);
}

void DisplayToolWindows::toggleDrawingBox() {
    ensureDrawingBox();
    drawingBox_->setVisible(!drawingBox_->isVisible());
}

void DisplayToolWindows::ensurePresent() {
    if (present_) return;
    present_ = new CPresentDialog(&display_, profile_);
    connect(present_, &CPresentDialog::modeChanged, &display_, &CDisplayer::setPresentMode);
    connect(present_, &ForwardingDialog::filesDropped, this, &DisplayToolWindows::filesDropped);
    display_.setPresentMode(present_->Mode());
}

void DisplayToolWindows::togglePresent() {
    ensurePresent();
    present_->setVisible(!present_->isVisible());
}

}  // namespace tessarin
