-- Data.mdb: users and their rights, the document counters and saved list filters.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one person who signs in: the user id and password, contact details, charge rate
-- and the flags that open the administration and billing menus or restrict the user to his
-- own rows (workflow).
CREATE TABLE [System Users] (
    [USERID] TEXT(20) NOT NULL,     -- 0
    [USERNAME] TEXT(50),            -- 1
    [TITLE] TEXT(50),               -- 2
    [WORKNO] TEXT(20),              -- 3
    [HOMENO] TEXT(20),              -- 4
    [MOBILENO] TEXT(20),            -- 5
    [EMAIL ADDRESS] TEXT(100),      -- 6
    [PAGERNO] TEXT(20),             -- 7
    [COMMENTS] MEMO,                -- 8
    [PASSWORD] TEXT(128),           -- 9 compared case-sensitively; Null accepts any password
    [ADMINISTRATOR] BIT,            -- 10
    [CHARGERATE] CURRENCY,          -- 11
    [WORKFLOW] BIT,                 -- 12
    [BILLINGACCESS] BIT,            -- 13
    CONSTRAINT PrimaryKey PRIMARY KEY ([USERID])
);
CREATE INDEX [USERNAME] ON [System Users] ([USERNAME]);

-- A row is one user's rights on one table (by display name): the sum of 1 view, 2 add, 4
-- edit and 8 delete. A user and table without a row have every right.
CREATE TABLE [System User Access] (
    [USERID] TEXT(20) NOT NULL,     -- 0
    [TABLENAME] TEXT(50) NOT NULL,  -- 1 the table's display name, e.g. "Sales Orders"
    [ACCESSLEVEL] SHORT,            -- 2 1 view + 2 add + 4 edit + 8 delete; Null = all
    CONSTRAINT PrimaryKey PRIMARY KEY ([USERID], [TABLENAME])
);

-- A row is the last number handed out for one numbered table (by its display name); the
-- row's lock makes workstations take numbers one at a time.
CREATE TABLE [Counters] (
    [TABLENAME] TEXT(50) NOT NULL,  -- 0 display name of the numbered table, e.g. "Quotations"
    [LASTNUMBER] LONG,              -- 1
    CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME])
);

-- A row is one saved list filter: the first ten characters of the list's table display
-- name, the filter's name, its criteria text and the chosen sort field.
CREATE TABLE [Filters] (
    [TABLENAME] TEXT(10) NOT NULL,  -- 0 first 10 characters of the table display name
    [FILTERNAME] TEXT(50) NOT NULL, -- 1
    [CRITERIA] MEMO,                -- 2 one condition per line, as the filter window shows it
    [QUERYTEXT] MEMO,               -- 3 left empty by the filter window
    [SORTFIELD] SHORT,              -- 4 index of the sort field in the filter window's list
    CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME], [FILTERNAME])
);
