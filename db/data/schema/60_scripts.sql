-- Data.mdb: call scripts, their steps, and the stored runs with their answers.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one call script: its name, what it is for, the campaign it serves and the
-- closing message shown when a run reaches its end; its steps are rows of SCRIPTS DETAIL.
CREATE TABLE [SCRIPTS] (
    [SCRIPT NAME] TEXT(50) NOT NULL, -- 0
    [DESCRIPTION] TEXT(255),         -- 1
    [CAMPAIGN] TEXT(50),             -- 2
    [ENDMESSAGE] TEXT(255),          -- 3
    CONSTRAINT PrimaryKey PRIMARY KEY ([SCRIPT NAME])
);

-- A row is one step of a call script: the question asked, the kind of answer it takes, and
-- for choice steps the valid answers and the step each one leads to (tab-separated).
CREATE TABLE [SCRIPTS DETAIL] (
    [SCRIPT NAME] TEXT(50) NOT NULL,  -- 0
    [SCRIPT BRANCH ID] LONG NOT NULL, -- 1
    [PROMPT] MEMO,                    -- 2
    [RESPONSE TYPE] SHORT,            -- 3 0 and 3 choice, 1 number, 2 text
    [RESPONSE STRING] TEXT(255),      -- 4 each response followed by a tab
    [BRANCH STRING] TEXT(255),        -- 5 a step id per response, each + tab; 0 = next step
    CONSTRAINT PrimaryKey PRIMARY KEY ([SCRIPT NAME], [SCRIPT BRANCH ID])
);

-- A row is one stored run of a call script with a customer contact: who ran it and when;
-- its answers are rows of SCRIPTS HISTORY DETAIL.
CREATE TABLE [SCRIPTS HISTORY] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [SCRIPT NAME] TEXT(50) NOT NULL,   -- 1
    [STARTED] DATETIME NOT NULL,       -- 2
    [USER ID] TEXT(20),                -- 3
    [CONTACT NAME] TEXT(50),           -- 4
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [SCRIPT NAME], [STARTED])
);
CREATE INDEX [SCRIPT NAME] ON [SCRIPTS HISTORY] ([SCRIPT NAME]);

-- A row is one answer given in a stored script run: the run (customer, script, start) and
-- the step answered. Its key is customer, start and step, since a key holds at most three
-- columns.
CREATE TABLE [SCRIPTS HISTORY DETAIL] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [SCRIPT NAME] TEXT(50),            -- 1
    [STARTED] DATETIME NOT NULL,       -- 2
    [SCRIPT BRANCH ID] LONG NOT NULL,  -- 3
    [RESPONSE] MEMO,                   -- 4
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [STARTED], [SCRIPT BRANCH ID])
);
CREATE INDEX [Run] ON [SCRIPTS HISTORY DETAIL] ([CUSTOMER NAME], [SCRIPT NAME], [STARTED]);
