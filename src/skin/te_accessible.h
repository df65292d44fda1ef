#pragma once
// What a screen reader learns of the skinned controls: their role, name,
// state, value and default action, through the toolkit's accessibility
// interfaces. The toolkit's own controls (the edit, the platform combo box,
// the list view) bring theirs.

namespace quillon {

// Makes the skinned controls known to the accessibility layer; once is
// enough, later calls do nothing.
void InstallSkinAccessibility();

} // namespace quillon
