#include "app/files/save_plan.h"

SaveWay planSave(const SaveTargetFacts& facts) {
    if (!facts.exists) return SaveWay::createNew;
    if (!facts.regular) return SaveWay::refuseNotRegular;
    // Renaming over a file needs no right to write it: honour a read-only file ourselves.
    if (!facts.writable) return SaveWay::refuseReadOnly;
    // A rename keeps everything about the target only when the file is ours, no other name
    // shares it and the folder lets us make and rename files there.
    if (facts.ownedByUser && facts.links == 1 && facts.folderWritable) return SaveWay::replaceByRename;
    return SaveWay::rewriteInPlace;
}
