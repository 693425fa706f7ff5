#include "core/care/AccessFaces.h"

#include "core/formats/Localization.h"

namespace qz {

namespace {
template <typename T>
void take(std::optional<T>& into, const std::optional<T>& from) {
    if (from) {
        into = from;
    }
}

template <typename T>
void applyTo(T& target, const std::optional<T>& value) {
    if (value) {
        target = *value;
    }
}
}  // namespace

bool FaceChange::isEmpty() const {
    return !chooseHD && !helpSandbox && !imageSandbox && !slotViews && !textUpdate && !btnUpdate &&
           !imageName && !updateText;
}

FaceChange FaceChange::then(const FaceChange& later) const {
    FaceChange combined = *this;
    take(combined.chooseHD, later.chooseHD);
    take(combined.helpSandbox, later.helpSandbox);
    take(combined.imageSandbox, later.imageSandbox);
    take(combined.slotViews, later.slotViews);
    take(combined.textUpdate, later.textUpdate);
    take(combined.btnUpdate, later.btnUpdate);
    take(combined.imageName, later.imageName);
    take(combined.updateText, later.updateText);
    return combined;
}

void FaceState::apply(const FaceChange& change) {
    applyTo(chooseHD, change.chooseHD);
    applyTo(helpSandbox, change.helpSandbox);
    applyTo(imageSandbox, change.imageSandbox);
    applyTo(slotViews, change.slotViews);
    applyTo(textUpdate, change.textUpdate);
    applyTo(btnUpdate, change.btnUpdate);
    applyTo(imageName, change.imageName);
    applyTo(updateText, change.updateText);
}

FaceChange accessRequestFace() {
    FaceChange face;
    face.imageName = QStringLiteral("library");
    face.chooseHD = true;
    face.helpSandbox = true;
    face.imageSandbox = true;
    face.slotViews = false;
    face.textUpdate = false;
    face.btnUpdate = false;
    return face;
}

FaceChange accessControlsHidden() {
    FaceChange face;
    face.chooseHD = false;
    face.helpSandbox = false;
    face.imageSandbox = false;
    return face;
}

FaceChange normalFace() {
    FaceChange face;
    face.slotViews = true;
    face.textUpdate = false;
    face.btnUpdate = false;
    return face;
}

FaceChange updateRequiredFace(const QString& publishedVersion, const Localization& texts) {
    FaceChange face;
    face.slotViews = false;
    face.imageName = QStringLiteral("Quenzel");
    face.updateText = texts.format(QStringLiteral("oldVersionText"), {publishedVersion});
    face.imageSandbox = true;
    face.textUpdate = true;
    face.btnUpdate = true;
    return face;
}

}  // namespace qz
