#pragma once

namespace vantaro {

// The node editor: the server list and the three server boxes beside it.
void NewNode();
void DeleteNode();
void CommitNodeEdits(int row);
void ShowSelectedNode();
void UpdateDeleteButton();
void ShowPasswordToggle();

enum class ServerField { Ip, Port, Password };
// A server box lost the focus: an empty text is refused with a message and the focus goes back to the box.
void RequireServerField(ServerField field);
// Puts the focus back into the box after the message (posted, so the message box has fully closed).
void RefocusServerField(ServerField field);

}  // namespace vantaro
