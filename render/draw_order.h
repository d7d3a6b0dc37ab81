// Draw order of the records registered under a record: sorted far to near by their nearest
// depth (stably, so a scene always draws alike), then corrected where two records touch, so
// that the one on the far side of their contact plane is drawn first.
#pragma once

#include <cstdint>

#include "model/object_geometry.h"

class DynamicArray;
class Observer;

// 1 when the eye is on the contact plane or on the side its normal points away from.
int32_t ContactPlaneFacing(const ContactEntry& entry, const Observer* observer);

// Reorders the list of record pointers in place: a record that touches a later visible record
// lying behind their contact plane (seen from the eye) and overlapping it on the screen lets
// that record go first. Renumbers DrawIndex. `members` holds every record of the list (others
// too) in the order their contacts are read: the records registered under the list's record.
void RefineDrawOrder(DynamicArray* list, const DynamicArray* members, const Observer* observer);

// Sorts a list of record pointers (a ContactList) by its comparison, far to near by nearest depth,
// keeping the order of equal entries.
void StableSortDrawList(DynamicArray* list);
// Frees the sort's work list.
void FreeDrawOrderScratch();
