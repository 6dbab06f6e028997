// The function-table slot of every operation the tool calls, checked when
// this builds: the C form of the interfaces lists the table in order, three
// IUnknown and four IDispatch entries first.
#define CINTERFACE
#include <cstddef>

#include "host/com/host_automation.h"

namespace {

#define VELMORA_SLOT(vtbl, operation, n) \
    static_assert(offsetof(vtbl, operation) / sizeof(void*) == (n), #operation " is not at slot " #n)

VELMORA_SLOT(InanoCADApplicationVtbl, QueryInterface, 0);
VELMORA_SLOT(InanoCADApplicationVtbl, Invoke, 6);
VELMORA_SLOT(InanoCADApplicationVtbl, currentDocument, 13);
VELMORA_SLOT(InanoCADApplicationVtbl, getWindowState, 31);
VELMORA_SLOT(InanoCADApplicationVtbl, setWindowState, 32);
VELMORA_SLOT(InanoCADApplicationVtbl, getHostState, 39);
VELMORA_SLOT(InanoCADApplicationVtbl, getMainWindowHandle, 41);
VELMORA_SLOT(IHostDocumentVtbl, insertionSpace, 7);
VELMORA_SLOT(IHostDocumentVtbl, blockCollection, 9);
VELMORA_SLOT(IHostDocumentVtbl, layerCollection, 13);
VELMORA_SLOT(IHostDocumentVtbl, selectionObject, 54);
VELMORA_SLOT(IHostDocumentVtbl, documentFullName, 55);
VELMORA_SLOT(IHostDocumentVtbl, writeBlock, 72);
VELMORA_SLOT(IHostDocumentVtbl, getSystemVariable, 74);
VELMORA_SLOT(IHostDocumentVtbl, setSystemVariable, 75);
VELMORA_SLOT(IHostDocumentVtbl, sendCommand, 89);
VELMORA_SLOT(IHostCollectionVtbl, item, 20);
VELMORA_SLOT(IHostCollectionVtbl, itemCount, 21);
VELMORA_SLOT(IHostLayerVtbl, colorIndex, 20);
VELMORA_SLOT(IHostLayerVtbl, hiddenStateA, 24);
VELMORA_SLOT(IHostLayerVtbl, linetypeName, 28);
VELMORA_SLOT(IHostLayerVtbl, hiddenStateB, 30);
VELMORA_SLOT(IHostLayerVtbl, layerName, 32);
VELMORA_SLOT(IHostBlockVtbl, blockName, 23);
VELMORA_SLOT(IHostSpaceVtbl, insertReference, 66);
VELMORA_SLOT(IHostReferenceVtbl, discardCopiedReference, 11);
VELMORA_SLOT(IHostReferenceVtbl, deleteReference, 19);
VELMORA_SLOT(IHostReferenceVtbl, explodeReference, 69);
VELMORA_SLOT(IHostSelectionVtbl, eraseSelected, 12);
VELMORA_SLOT(IHostSelectionVtbl, addToSelection, 15);
VELMORA_SLOT(IHostSelectionVtbl, clearSelection, 17);
VELMORA_SLOT(IHostStateVtbl, isHostReady, 7);

}  // namespace
