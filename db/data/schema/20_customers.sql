-- Data.mdb: customers, their contacts, activities done and planned, and sales
-- opportunities.
-- Columns are bound by ordinal (the number after "--", counted from 0): never reorder or
-- insert columns, add new ones at the end. A column that holds a key of another table or a
-- code of a code table carries that key's name.

-- A row is one sales account: its addresses, numbers, classification, account manager and
-- the dates of its first, last and next activity. Every related table names it by [CUSTOMER
-- NAME].
CREATE TABLE [CUSTOMERS] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [POSTALSTREET] TEXT(150),          -- 1
    [POSTALCITY] TEXT(50),             -- 2
    [POSTALSTATE] TEXT(3),             -- 3
    [POSTALCODE] TEXT(12),             -- 4
    [DELIVERYSTREET] TEXT(150),        -- 5
    [DELIVERYCITY] TEXT(50),           -- 6
    [DELIVERYSTATE] TEXT(3),           -- 7
    [DELIVERYCODE] TEXT(12),           -- 8
    [COUNTRY] TEXT(50),                -- 9
    [TELEPHONENO] TEXT(20),            -- 10
    [FAXNO] TEXT(20),                  -- 11
    [INTERNETURL] TEXT(150),           -- 12
    [EMAIL ADDRESS] TEXT(100),         -- 13
    [INDUSTRY CODE] TEXT(30),          -- 14
    [TERRITORY] TEXT(30),              -- 15
    [SALES REP ID] TEXT(20),           -- 16 user id of the account manager
    [CAMPAIGN] TEXT(50),               -- 17
    [RELATIONSHIP] TEXT(30),           -- 18
    [TIME ZONE] TEXT(10),              -- 19
    [FIRSTDATE] DATETIME,              -- 20
    [LASTDATE] DATETIME,               -- 21
    [NEXTDATE] DATETIME,               -- 22
    [ACCOUNTNO] TEXT(20),              -- 23
    [REFERREDBY] TEXT(50),             -- 24
    [COMMENTS] MEMO,                   -- 25
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME])
);
CREATE INDEX [TELEPHONENO] ON [CUSTOMERS] ([TELEPHONENO]);
CREATE INDEX [EMAIL ADDRESS] ON [CUSTOMERS] ([EMAIL ADDRESS]);
CREATE INDEX [ACCOUNTNO] ON [CUSTOMERS] ([ACCOUNTNO]);
CREATE INDEX [SALES REP ID] ON [CUSTOMERS] ([SALES REP ID]);

-- A row is one person at a customer, keyed by the customer's name and the person's name,
-- with numbers, address, profile and the dates of the first, last and next contact.
CREATE TABLE [CONTACTS] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [CONTACT NAME] TEXT(50) NOT NULL,  -- 1
    [TITLE] TEXT(50),                  -- 2
    [BUSINESS PHONE] TEXT(20),         -- 3
    [HOME PHONE] TEXT(20),             -- 4
    [MOBILE PHONE] TEXT(20),           -- 5
    [FAXNO] TEXT(20),                  -- 6
    [EMAIL ADDRESS] TEXT(100),         -- 7
    [ROLE] TEXT(30),                   -- 8
    [TIME ZONE] TEXT(10),              -- 9
    [HONORIFIC] TEXT(20),              -- 10
    [SALUTATION] TEXT(50),             -- 11
    [STREET] TEXT(150),                -- 12
    [CITY] TEXT(50),                   -- 13
    [STATE] TEXT(3),                   -- 14
    [POSTCODE] TEXT(12),               -- 15
    [FIRSTCONTACT] DATETIME,           -- 16
    [LASTCONTACT] DATETIME,            -- 17
    [NEXTCONTACT] DATETIME,            -- 18
    [BIRTHDAY] TEXT(20),               -- 19 day and month as shown ("05 Dec"); the year is not kept
    [SPOUSENAME] TEXT(50),             -- 20
    [SPOUSEBIRTHDAY] DATETIME,         -- 21
    [CHILDREN] TEXT(255),              -- 22
    [INTERESTS] TEXT(255),             -- 23
    [COMMENTS] MEMO,                   -- 24
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [CONTACT NAME])
);
CREATE INDEX [CONTACT NAME] ON [CONTACTS] ([CONTACT NAME]);
CREATE INDEX [BUSINESS PHONE] ON [CONTACTS] ([BUSINESS PHONE]);
CREATE INDEX [HOME PHONE] ON [CONTACTS] ([HOME PHONE]);
CREATE INDEX [MOBILE PHONE] ON [CONTACTS] ([MOBILE PHONE]);
CREATE INDEX [EMAIL ADDRESS] ON [CONTACTS] ([EMAIL ADDRESS]);

-- A row is one thing done for a customer (a call, a visit, a letter) at a date and time, by
-- a user, with its duration, cost and result; billable rows carry the invoice that charged
-- them.
CREATE TABLE [ACTIVITIES] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [DATETIME] DATETIME NOT NULL,      -- 1
    [ACTIVITY TYPE] TEXT(30),          -- 2
    [DESCRIPTION] TEXT(255),           -- 3
    [SALES REP ID] TEXT(20),           -- 4
    [CONTACT NAME] TEXT(50),           -- 5
    [CAMPAIGN] TEXT(50),               -- 6
    [SALESPLAN] TEXT(50),              -- 7 name of a customer care plan
    [DURATION] DOUBLE,                 -- 8 minutes
    [RESULT CODE] TEXT(30),            -- 9
    [COST] CURRENCY,                   -- 10
    [LETTERID] TEXT(20),               -- 11
    [NOTES] MEMO,                      -- 12 rich text
    [SOURCEDOCTYPE] TEXT(20),          -- 13 "project" for a project's work; empty otherwise
    [SOURCEDOCID] TEXT(50),            -- 14
    [BILLABLE] BIT,                    -- 15
    [INVOICENO] LONG,                  -- 16 order that billed it; Null while unbilled
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [DATETIME])
);
CREATE INDEX [DATETIME] ON [ACTIVITIES] ([DATETIME]);
CREATE INDEX [SALES REP ID] ON [ACTIVITIES] ([SALES REP ID]);
CREATE INDEX [CustomerContact] ON [ACTIVITIES] ([CUSTOMER NAME], [CONTACT NAME]);
CREATE INDEX [INVOICENO] ON [ACTIVITIES] ([INVOICENO]);
CREATE INDEX [SourceDoc] ON [ACTIVITIES] ([SOURCEDOCTYPE], [SOURCEDOCID]);

-- A row is one activity planned for a customer at a date and time and assigned to a user;
-- completing it moves it into ACTIVITIES. Its first sixteen columns are those of
-- ACTIVITIES.
CREATE TABLE [SCHEDULED ACTIVITIES] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [SCHEDDATETIME] DATETIME NOT NULL, -- 1
    [ACTIVITY TYPE] TEXT(30),          -- 2
    [DESCRIPTION] TEXT(255),           -- 3
    [USER ID] TEXT(20),                -- 4
    [CONTACT NAME] TEXT(50),           -- 5
    [CAMPAIGN] TEXT(50),               -- 6
    [SALESPLAN] TEXT(50),              -- 7 name of a customer care plan
    [DURATION] DOUBLE,                 -- 8 minutes
    [RESULT CODE] TEXT(30),            -- 9
    [COST] CURRENCY,                   -- 10
    [LETTERID] TEXT(20),               -- 11
    [NOTES] MEMO,                      -- 12 rich text
    [SOURCEDOCTYPE] TEXT(20),          -- 13 "project" for a project's work; empty otherwise
    [SOURCEDOCID] TEXT(50),            -- 14
    [BILLABLE] BIT,                    -- 15
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [SCHEDDATETIME])
);
CREATE INDEX [SCHEDDATETIME] ON [SCHEDULED ACTIVITIES] ([SCHEDDATETIME]);
CREATE INDEX [USER ID] ON [SCHEDULED ACTIVITIES] ([USER ID]);
CREATE INDEX [CustomerContact] ON [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], [CONTACT NAME]);
CREATE INDEX [SourceDoc] ON [SCHEDULED ACTIVITIES] ([SOURCEDOCTYPE], [SOURCEDOCID]);

-- A row is one possible sale to a customer: when and by whom it was identified, its value,
-- probable month and probability, status, competition and lead source.
CREATE TABLE [SALES OPPORTUNITIES] (
    [CUSTOMER NAME] TEXT(60) NOT NULL, -- 0
    [IDENTIFIED] DATETIME NOT NULL,    -- 1
    [SALES REP ID] TEXT(20),           -- 2
    [CONTACT NAME] TEXT(50),           -- 3
    [DESCRIPTION] TEXT(255),           -- 4
    [SALESVALUE] CURRENCY,             -- 5
    [SALEMONTH] TEXT(20),              -- 6 month name, e.g. "March"
    [PROBABILITY] SHORT,               -- 7
    [STATUS] TEXT(30),                 -- 8
    [COMPETITION] TEXT(50),            -- 9
    [LEADSOURCE] TEXT(50),             -- 10
    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [IDENTIFIED])
);
CREATE INDEX [SALES REP ID] ON [SALES OPPORTUNITIES] ([SALES REP ID]);
