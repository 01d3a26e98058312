#pragma once

// The editor's own words: questions, captions and refusals that only the editor says (the
// core's messages come with its outcomes).
namespace pelmora::ui {

// The retexture warning (OK / Cancel) shown before deleting or sorting while "Show Warnings"
// is on.
constexpr const char* kRetextureWarningCaption = "Warning!";
constexpr const char* kRetextureWarningText =
    "Deleting Pages, Textures, Texture Positions, or Sorting will cause you to have to "
    "Retexture your Models,\nif you are aware of the risk you may click OK, if you want to "
    "stop right now you may click Cancel...\nif you're a Pro and already know this info you "
    "can turn this Warning Off in the Options Menu, under the View sub menu...";

// The New Page dialog's own refusals; the dialog shows them and stays open (or opens again).
constexpr const char* kChooseImageFirstMessage = "Please Choose an Image to load then click Yes...";
constexpr const char* kMustClickYesMessage =
    "You Must Click Yes on the add new page dialog to continue or you might have a problem...";

// A dropped file whose name does not end in ".wad" or ".plm".
constexpr const char* kWrongExtensionMessage =
    "Wrong Extention...\nThis might not be a Stonecrypt Wad File.";

// The duplicate report could not be opened; the report's path follows.
constexpr const char* kUnableToOpenFileMessage = "Unable to Open file ";

}  // namespace pelmora::ui
