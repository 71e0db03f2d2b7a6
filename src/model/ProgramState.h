#pragma once

#include "model/LinkAttributes.h"
#include "model/ResponsiveCode.h"

#include <QString>

namespace korvane {

// The program-wide values the main window owns and the commands share; what
// belongs to the open map is in MapDocument.
struct ProgramState {
    QString lastImageFolder;
    QString lastMapFolder;
    QString lastExportFolder;
    QString lastLinkFolder; // not persisted
    int settingsLoadCount = 0;
    bool magnifierOpen = false;
    LinkAttributes link; // the attributes last accepted in the link dialog
    bool linkDialogCancelled = false;
    QString openPresetName; // the Tag of Command1: preset name for the next open dialog
    QString chosenImgTag;   // the main window's Tag: the img tag chosen in frmImgSuche
    // The code box's own choices, kept in Korvane.ini.
    bool relativeImagePath = false; // the img source relative to the page the code goes into
    FitMode responsiveFit = FitMode::Fill;
    bool codeChoicesMade = false; // changed in this run: the stored ones no longer apply
    // How the responsive form shows the area under the pointer and the focused link, kept in Korvane.ini.
    Highlight highlight;
    // Each changed in this run: the stored one no longer applies. Two flags,
    // so that a kind chosen before the file was read keeps the stored colour.
    bool highlightKindChosen = false;
    bool highlightColourChosen = false;
    // Snapping on the canvas, kept in Korvane.ini.
    bool snapOn = false;
    int snapGrid = 10;            // picture pixels
    bool snapChoicesMade = false; // changed in this run: the stored ones no longer apply
};

} // namespace korvane
