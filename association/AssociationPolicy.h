#pragma once
// The association check that runs at every ordinary start, and its undo.
// Neither acts on a store it could not read, nor on one kept read-only.

namespace AssociationPolicy {

// Registers and associates all types on a first run; otherwise asks the
// user before taking back the types that another program has taken. True
// when every type is associated at the end.
bool AssociateAll();
// Gives back every type that still points at this program. True when none
// points here at the end.
bool DeAssociateAll();

}
