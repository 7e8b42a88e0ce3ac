// The recovery offer's commands: what each row says, and which key or press chooses "打开",
// "忽略" or "删除". While the offer is shown it takes every input message; Escape is "忽略"
// and never ends the program.
#pragma once

#include <vector>

#include "app/model/mind_map.h"
#include "app/model/recovery_offer.h"
#include "app/recovery/recovery_files.h"
#include "graphics/input_message.h"

// An offer of the left files, shown when there is any.
RecoveryOffer makeRecoveryOffer(const std::vector<LeftRecoveryFile>& left);

// What a row says: the time the file was last written (local time), its node count, and
// whether it is an editor's copy or a save's backup (with the name of the file it belongs to).
std::u16string recoveryOfferLabel(const LeftRecoveryFile& file);

// Handles one input message while the offer is shown.
void dispatchOfferInput(MindMap& mindMap, RecoveryOffer& offer, const Gfx::InputMessage& message);

// The three choices, on the selected row.
void openOffered(MindMap& mindMap, RecoveryOffer& offer);     // opens it; the others wait for later
void ignoreOffer(RecoveryOffer& offer);                       // keeps them all for later
void discardOffered(MindMap& mindMap, RecoveryOffer& offer);  // to discarded/; the offer goes on
