-- Definitions.mdb: which business events write an entry into the customer's activities.
-- Columns are read by ordinal; the order is binding.

-- A row is one event: its category ("New Record", "Send" or "Other") and key (for "New
-- Record" the table's display name), and the activity type, description, duration in
-- minutes and cost of the entry it writes. An empty activity type means "not logged".
CREATE TABLE [ACTIVITY LOG OPTIONS] (
    [EVENT CATEGORY] TEXT(20) NOT NULL,  -- 0
    [KEY VALUE] TEXT(50) NOT NULL,       -- 1
    [ACTIVITY TYPE] TEXT(30),            -- 2
    [DESCRIPTION] TEXT(255),             -- 3
    [DURATION] LONG,                     -- 4
    [COST] CURRENCY,                     -- 5
    CONSTRAINT PrimaryKey PRIMARY KEY ([EVENT CATEGORY], [KEY VALUE])
);
