-- Data.mdb: projects, customer care plans, documents, form letters, feedback and
-- attachments.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one project for a customer, known by its name: planned and actual dates,
-- manager, status and budget. Its steps are scheduled activities and its work is activities
-- with SOURCEDOCTYPE "project" and SOURCEDOCID the project name.
CREATE TABLE [PROJECTS] (
    [NAME] TEXT(50) NOT NULL,       -- 0
    [CUSTOMER NAME] TEXT(60),       -- 1
    [SCHEDULEDSTART] DATETIME,      -- 2
    [SCHEDULEDEND] DATETIME,        -- 3
    [ACTUALSTART] DATETIME,         -- 4
    [ACTUALEND] DATETIME,           -- 5
    [DESCRIPTION] TEXT(255),        -- 6
    [CONTACT NAME] TEXT(50),        -- 7
    [USER ID] TEXT(20),             -- 8
    [STATUS] TEXT(30),              -- 9
    [BUDGET] CURRENCY,              -- 10
    [QUOTENO] LONG,                 -- 11
    [COMMENTS] MEMO,                -- 12
    CONSTRAINT PrimaryKey PRIMARY KEY ([NAME])
);
CREATE INDEX [CUSTOMER NAME] ON [PROJECTS] ([CUSTOMER NAME]);
CREATE INDEX [SCHEDULEDSTART] ON [PROJECTS] ([SCHEDULEDSTART]);

-- A row is one customer care plan: a named series of contacts (its steps) that a customer
-- is taken through, for example after a first sale.
CREATE TABLE [CUSTOMER CARE PLANS] (
    [PLAN NAME] TEXT(50) NOT NULL,  -- 0
    [DESCRIPTION] TEXT(255),        -- 1
    [CAMPAIGN] TEXT(50),            -- 2
    [USER ID] TEXT(20),             -- 3
    [ACTIVE] BIT,                   -- 4
    [COMMENTS] MEMO,                -- 5
    CONSTRAINT PrimaryKey PRIMARY KEY ([PLAN NAME])
);

-- A row is one step of a care plan: how many days after the plan starts it falls, the
-- activity to schedule and the form letter to send.
CREATE TABLE [CUSTOMER CARE PLAN STEPS] (
    [PLAN NAME] TEXT(50) NOT NULL,  -- 0
    [STEPNO] SHORT NOT NULL,        -- 1
    [DAYOFFSET] SHORT,              -- 2
    [ACTIVITY TYPE] TEXT(30),       -- 3
    [DESCRIPTION] TEXT(255),        -- 4
    [DURATION] DOUBLE,              -- 5 minutes
    [LETTERID] TEXT(20),            -- 6
    CONSTRAINT PrimaryKey PRIMARY KEY ([PLAN NAME], [STEPNO])
);

-- A row is one customer (and contact) on a care plan: when the plan started, the last step
-- done, when the next one is due and how it ended.
CREATE TABLE [CUSTOMER CARE PLAN STATUS] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [PLAN NAME] TEXT(50) NOT NULL,     -- 1
    [STARTDATE] DATETIME NOT NULL,     -- 2
    [CONTACT NAME] TEXT(50),           -- 3
    [USER ID] TEXT(20),                -- 4
    [LASTSTEP] SHORT,                  -- 5
    [NEXTSTEPDATE] DATETIME,           -- 6
    [STATUS] TEXT(30),                 -- 7
    [COMPLETEDDATE] DATETIME,          -- 8
    [COMMENTS] MEMO,                   -- 9
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [PLAN NAME], [STARTDATE])
);
CREATE INDEX [PLAN NAME] ON [CUSTOMER CARE PLAN STATUS] ([PLAN NAME]);
CREATE INDEX [NEXTSTEPDATE] ON [CUSTOMER CARE PLAN STATUS] ([NEXTSTEPDATE]);

-- A row is one document file that can be sent to customers as an attachment (a brochure, a
-- price list, a manual), grouped by category.
CREATE TABLE [DOCUMENT LIST] (
    [DOCUMENTID] TEXT(30) NOT NULL, -- 0
    [CATEGORY] TEXT(50),            -- 1
    [DESCRIPTION] TEXT(255),        -- 2
    [FILEPATH] TEXT(255),           -- 3
    [USER ID] TEXT(20),             -- 4
    [DATEADDED] DATETIME,           -- 5
    [COMMENTS] MEMO,                -- 6
    CONSTRAINT PrimaryKey PRIMARY KEY ([DOCUMENTID])
);
CREATE INDEX [Category] ON [DOCUMENT LIST] ([CATEGORY], [DESCRIPTION]);

-- A row is one form letter that is merged with customer data and sent: its category,
-- description and rich-text template file (or the letter text itself when SAVED is set).
-- The list window hides its sixth column, the letter text.
CREATE TABLE [FORM LETTERS] (
    [LETTERID] TEXT(20) NOT NULL,   -- 0
    [CATEGORY] TEXT(50),            -- 1
    [DESCRIPTION] TEXT(255),        -- 2
    [FILENAME] TEXT(255),           -- 3
    [SAVED] BIT,                    -- 4
    [LETTERTEXT] MEMO,              -- 5 rich text; hidden in the list window
    CONSTRAINT PrimaryKey PRIMARY KEY ([LETTERID])
);
CREATE INDEX [Category] ON [FORM LETTERS] ([CATEGORY], [DESCRIPTION]);

-- A row is one piece of feedback from a customer (a compliment, complaint or suggestion) at
-- a date and time, with the response given and whether it is resolved.
CREATE TABLE [CUSTOMER FEEDBACK] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [DATETIME] DATETIME NOT NULL,      -- 1
    [FEEDBACKTYPE] TEXT(30),           -- 2
    [CONTACT NAME] TEXT(50),           -- 3
    [USER ID] TEXT(20),                -- 4
    [PRODUCTCODE] TEXT(20),            -- 5
    [SUMMARY] TEXT(255),               -- 6
    [DETAILS] MEMO,                    -- 7
    [RATING] SHORT,                    -- 8
    [FOLLOWUP] BIT,                    -- 9
    [RESPONSE] MEMO,                   -- 10
    [RESOLVEDDATE] DATETIME,           -- 11
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [DATETIME])
);
CREATE INDEX [DATETIME] ON [CUSTOMER FEEDBACK] ([DATETIME]);

-- A row is one file filed with a customer (a scanned letter, a drawing, a message
-- attachment) at a date and time; a bare file name lies in the data folder.
CREATE TABLE [CUSTOMER ATTACHMENTS] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [DATETIME] DATETIME NOT NULL,      -- 1
    [USER ID] TEXT(20),                -- 2
    [DESCRIPTION] TEXT(255),           -- 3
    [FILEPATH] TEXT(255),              -- 4 relative to the data folder unless it holds ":" or "//"
    [CONTACT NAME] TEXT(50),           -- 5
    [COMMENTS] MEMO,                   -- 6
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [DATETIME])
);
