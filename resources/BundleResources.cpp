// Anchors the compiled-in bundle resources (texts, images, Info.plist) in their own library.
namespace qz {
int bundleResourcesAnchor() {
    return 0;
}
}  // namespace qz
