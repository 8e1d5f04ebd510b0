#pragma once

#include <QLoggingCategory>

// File-type association: registrations that could not be written or checked.
Q_DECLARE_LOGGING_CATEGORY(lcAssociation)
