-- Definitions.mdb: the program's fixed pick lists and named settings.
-- Columns are read by ordinal; the order is binding.

-- A row is one entry of a named list. Lists shown as choices use OPTION as the entry's
-- text; lists used as named settings ("ServiceHours") or as headings ("Inbox", "Outbox")
-- keep the setting or heading in VALUE.
CREATE TABLE [OPTION LISTS] (
    [LIST NAME] TEXT(50) NOT NULL,   -- 0
    [OPTION] TEXT(100) NOT NULL,     -- 1
    [VALUE] TEXT(255),               -- 2
    [DESCRIPTION] TEXT(255),         -- 3
    CONSTRAINT PrimaryKey PRIMARY KEY ([LIST NAME], [OPTION])
);
