#pragma once
// The association check that runs at every ordinary start, and its undo.

namespace AssociationPolicy {

// Registers and associates all types on a first run; otherwise asks the
// user before taking back the types that another program has taken.
void AssociateAll();
// Gives back every type that still points at this program.
void DeAssociateAll();

}
