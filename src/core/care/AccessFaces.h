// The three faces of the main window (access request, normal, update required) as plain values:
// which of the access and update controls show, and what the image and the notice hold.
#pragma once

#include <QString>
#include <optional>

namespace qz {

class Localization;

// One step towards a face. An unset field leaves that control as it is, so a step that sets
// nothing (a grant that no longer resolves) changes nothing on the window.
struct FaceChange {
    std::optional<bool> chooseHD;
    std::optional<bool> helpSandbox;
    std::optional<bool> imageSandbox;
    std::optional<bool> slotViews;  // the slot views that hold the browser panels
    std::optional<bool> textUpdate;
    std::optional<bool> btnUpdate;
    std::optional<QString> imageName;   // the image shown by imageSandbox
    std::optional<QString> updateText;  // the notice shown by textUpdate

    bool isEmpty() const;
    // This step followed by `later`: later's settings win where both set a control.
    FaceChange then(const FaceChange& later) const;
};

// What the window's access and update controls currently show; the window mirrors this.
struct FaceState {
    bool chooseHD = false;
    bool helpSandbox = false;
    bool imageSandbox = false;
    bool slotViews = false;
    bool textUpdate = false;
    bool btnUpdate = false;
    QString imageName;
    QString updateText;

    void apply(const FaceChange& change);
    bool operator==(const FaceState&) const = default;
};

// No grant stored: the choose and help buttons and the "library" picture, nothing else.
FaceChange accessRequestFace();
// A grant resolved: the access controls go away.
FaceChange accessControlsHidden();
// The browser panels, no update notice; the picture keeps the visibility it has.
FaceChange normalFace();
// A newer program is published: the "Quenzel" picture, the notice naming that version and the
// update button instead of the browser panels.
FaceChange updateRequiredFace(const QString& publishedVersion, const Localization& texts);

}  // namespace qz
