-- Definitions.mdb: the message catalogue.
-- Every box and status-bar text the program shows is looked up here by number, so the
-- program holds numbers, not wording. Columns are read by ordinal; the order is binding.

-- A row is one numbered message: box title, text, a second paragraph shown after a blank
-- line, the administrator's grouping and the message-box style (buttons + icon + default).
CREATE TABLE [MESSAGES] (
    [MSGNO] SHORT NOT NULL,          -- 0
    [TITLE] TEXT(100),               -- 1
    [MSGTEXT] MEMO,                  -- 2
    [PARAGRAPH] MEMO,                -- 3
    [CATEGORY] TEXT(50),             -- 4
    [STYLE] LONG,                    -- 5
    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO])
);
CREATE INDEX [Category] ON [MESSAGES] ([CATEGORY]);
