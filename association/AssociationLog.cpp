#include "AssociationLog.h"

Q_LOGGING_CATEGORY(lcAssociation, "qmr.association", QtInfoMsg)
