// The dialect's jet_* functions on a server, as SQL functions in the site database's public
// schema: translations call the same names on both backends. Dates are ISO texts, as the
// engine stores them; a date's number is its serial day (1899-12-30 is day 0).
#include "engine/jet_dialect.h"
#include "engine/pg_session.h"

namespace tv::engine::dialect {

namespace {

// Bumped whenever a definition changes: a site made by an older program gets the new ones.
constexpr int kFunctionsVersion = 1;

const char* const kDefinitions[] = {
    // Failures carry the runtime's number, read back by runtimeErrorNumber.
    R"(CREATE OR REPLACE FUNCTION public.jet_fail(n integer, t text) RETURNS double precision
       LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'runtime error %: %', n, t; END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_concat(VARIADIC parts text[]) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN bool_and(p IS NULL) THEN NULL
       ELSE string_agg(coalesce(p, ''), '' ORDER BY o) END FROM unnest(parts) WITH ORDINALITY AS u(p, o) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_ucase(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT upper(t) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_lcase(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT lower(t) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_left(t text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
       ELSE left(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_right(t text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
       WHEN n = 0 THEN '' ELSE right(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mid(t text, s double precision, n double precision DEFAULT NULL)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN s < 1 OR n < 0
       THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
       WHEN n IS NULL THEN substr(t, s::integer) ELSE substr(t, s::integer, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_instr(a text, b text) RETURNS integer LANGUAGE sql
       IMMUTABLE AS $$ SELECT strpos(lower(a), lower(b)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_instr(s double precision, a text, b text) RETURNS integer
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN strpos(lower(substr(a, s::integer)), lower(b)) = 0 THEN 0
       ELSE strpos(lower(substr(a, s::integer)), lower(b)) + s::integer - 1 END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_now() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_date() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT to_char(localtimestamp, 'YYYY-MM-DD') || ' 00:00:00' $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_time() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT '1899-12-30 ' || to_char(localtimestamp, 'HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_ts(d text) RETURNS timestamp LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN d ~ '^\d{4}-\d\d-\d\d( \d\d:\d\d(:\d\d)?)?$' THEN d::timestamp
       ELSE public.jet_fail(13, 'Type mismatch.')::text::timestamp END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_year(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(year FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_month(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(month FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_day(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(day FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_hour(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(hour FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_minute(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(minute FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_second(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT floor(extract(second FROM public.jet_ts(d)))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_weekday(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(dow FROM public.jet_ts(d))::integer + 1 $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_serial(d text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT extract(epoch FROM public.jet_ts(d) - timestamp '1899-12-30') / 86400.0 $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_todate(n double precision) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT to_char(timestamp '1899-12-30' + make_interval(secs => round(n * 86400)),
       'YYYY-MM-DD HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateplus(d text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_todate(public.jet_serial(d) + n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateminus(d text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_todate(public.jet_serial(d) - n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_days(a text, b text) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_serial(a) - public.jet_serial(b) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_num(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n = 'Infinity' OR n = '-Infinity'
       THEN public.jet_fail(6, 'Overflow.') ELSE n END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_div(a double precision, b double precision)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN b = 0
       THEN public.jet_fail(11, 'Division by zero.') ELSE a / b END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_intdiv(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero.')::bigint ELSE trunc(round(a) / round(b))::bigint END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mod(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero.')::bigint ELSE mod(round(a)::bigint, round(b)::bigint) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_pow(a double precision, b double precision)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT power(a, b) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_int(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT floor(n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_fix(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT trunc(n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_round(n double precision, d double precision DEFAULT 0)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT CASE
       WHEN abs(n * 10 ^ d - trunc(n * 10 ^ d)) = 0.5
       THEN (2 * round(n * 10 ^ d / 2)) / 10 ^ d ELSE round(n * 10 ^ d) / 10 ^ d END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdbl(t text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN t IS NULL THEN NULL WHEN btrim(t) ~ '^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$'
       THEN btrim(t)::double precision ELSE public.jet_fail(13, 'Type mismatch.') END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdbl(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT n $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_clng(n double precision) RETURNS bigint LANGUAGE sql
       IMMUTABLE AS $$ SELECT round(n)::bigint $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cint(n double precision) RETURNS integer LANGUAGE sql
       IMMUTABLE AS $$ SELECT round(n)::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_val(t text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT coalesce(nullif(substring(replace(coalesce(t, ''), ' ', '')
       FROM '^[-+]?\d*\.?\d+'), '')::double precision, 0) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cstr(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT t $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cstr(n double precision) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN n = trunc(n) AND abs(n) < 1e15 THEN trunc(n)::bigint::text
       ELSE n::text END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_gdate(d text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN d IS NULL THEN NULL WHEN substr(d, 12) IN ('', '00:00:00')
       THEN to_char(public.jet_ts(d), 'DD/MM/YYYY')
       WHEN substr(d, 1, 10) = '1899-12-30' THEN to_char(public.jet_ts(d), 'HH24:MI:SS')
       ELSE to_char(public.jet_ts(d), 'DD/MM/YYYY HH24:MI:SS') END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_like(v text, p text) RETURNS integer LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN lower(v) ~ ('^' || regexp_replace(regexp_replace(
       regexp_replace(regexp_replace(lower(p), '([.+(){}|^$\\])', '\\\1', 'g'), '\*', '.*', 'g'),
       '\?', '.', 'g'), '#', '[0-9]', 'g') || '$') THEN 1 ELSE 0 END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_keep_first(a anyelement, b anyelement) RETURNS anyelement
       LANGUAGE sql IMMUTABLE AS $$ SELECT a $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_keep_last(a anyelement, b anyelement) RETURNS anyelement
       LANGUAGE sql IMMUTABLE AS $$ SELECT b $$)",
    R"(CREATE OR REPLACE AGGREGATE public.jet_first(anyelement) (SFUNC = public.jet_keep_first,
       STYPE = anyelement))",
    R"(CREATE OR REPLACE AGGREGATE public.jet_last(anyelement) (SFUNC = public.jet_keep_last,
       STYPE = anyelement))",
};

}  // namespace

void createServerFunctions(PgSession& session) {
    session.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS public.tv_site (name text PRIMARY KEY, "
                                "value integer NOT NULL)"));
    auto current = session.unprepared(
        QStringLiteral("SELECT value FROM public.tv_site WHERE name = 'functions'"));
    if (current->step() && current->intAt(0) >= kFunctionsVersion) return;
    for (const char* definition : kDefinitions) session.exec(QString::fromUtf8(definition));
    session.exec(QStringLiteral("INSERT INTO public.tv_site VALUES ('functions', %1) ON CONFLICT "
                                "(name) DO UPDATE SET value = excluded.value")
                     .arg(kFunctionsVersion));
}

}  // namespace tv::engine::dialect
